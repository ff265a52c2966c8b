// Fontconfig keeps the patterns Qt resolves for widget fonts (the printer
// setup's controls) until the process ends and is never asked to free them;
// the leak checker of the sanitizer build would count them against the
// tests. Our own allocations stay checked.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
