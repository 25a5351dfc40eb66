# Cross build of the four Windows libraries (filled in with the toolchain work).
