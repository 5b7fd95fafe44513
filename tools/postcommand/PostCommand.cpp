// postcommand TITLE_PREFIX COMMAND_ID
// Posts WM_COMMAND COMMAND_ID to the first visible top-level window whose
// title starts with TITLE_PREFIX, waiting up to ten seconds for one.
// Exit code 0 when posted, 1 when no such window appeared, 2 on bad usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Search {
    const char* prefix;
    HWND found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    if (IsWindowVisible(window) && strncmp(title, search->prefix, strlen(search->prefix)) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: postcommand TITLE_PREFIX COMMAND_ID\n");
        return 2;
    }
    const WPARAM command = static_cast<WPARAM>(strtoul(argv[2], nullptr, 0));
    for (int attempt = 0; attempt < 100; ++attempt) {
        Search search = {argv[1], nullptr};
        EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return PostMessageA(search.found, WM_COMMAND, command, 0) ? 0 : 1;
        Sleep(100);
    }
    fprintf(stderr, "postcommand: no window titled \"%s...\"\n", argv[1]);
    return 1;
}
