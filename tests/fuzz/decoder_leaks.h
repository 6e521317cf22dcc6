#pragma once
// Debian 12's libheif hands a broken AVIF to dav1d and does not free what dav1d gave back for it:
// their leak, not ours. Included by each harness that reaches libheif, once per program.

extern "C" const char* __lsan_default_suppressions() { return "leak:libdav1d.so\n"; }
