#include "tools/gamekit/FolderArgument.h"

#include <cstdio>
#include <cstring>

int CheckFolderArgument(const char* pszTool, const char* pszUsage, int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::printf("%s", pszUsage);
        return 0;
    }
    if (argc != 2 || argv[1][0] == '-') {
        if (argc == 2) std::fprintf(stderr, "%s: unknown option %s\n", pszTool, argv[1]);
        std::fprintf(stderr, "%s", pszUsage);
        return 2;
    }
    return -1;
}
