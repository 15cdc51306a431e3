// Read by LeakSanitizer in the sanitizer build; unused otherwise.
//
// Fontconfig patterns that Qt's font database holds for the life of the process and never frees
// at exit. Nothing of ours is allocated through fontconfig.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
