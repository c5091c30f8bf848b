// A library whose start-up code leaves an empty file at $DD_EXTERNALS_PROBE,
// so a test can tell whether the program ran it. The assembly test puts it in
// an externals folder under the names the program once loaded.
#include <cstdio>
#include <cstdlib>

__attribute__((constructor)) static void LeaveAMark() {
    const char* path = std::getenv("DD_EXTERNALS_PROBE");
    if (!path) return;
    if (std::FILE* file = std::fopen(path, "w")) std::fclose(file);
}
