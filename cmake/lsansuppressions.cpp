// Linked into the sanitizer builds of the tests: leaks of system libraries
// that Qt loads once per process are not ours.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
