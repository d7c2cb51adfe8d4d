// Writes the form's rectangles and every text, as the core describes them,
// to the file named, for the page to hold before its core has loaded: it
// lays the form out and reserves its room at once.
#include <cstdio>

#include <string>

#include "core/form.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: springlattice-describe OUTPUT.json\n", stderr);
        return 2;
    }
    const std::string json = form::describe();
    std::FILE* out = std::fopen(argv[1], "wb");
    const bool written = out != nullptr && std::fputs(json.c_str(), out) >= 0;
    if (out == nullptr || std::fclose(out) != 0 || !written) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
