// Linked into every test program and lumo in a sanitizer build: fontconfig keeps
// caches for the life of the process, which are not ours to free.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}
