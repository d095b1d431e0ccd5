// Test programs run headless unless the environment says otherwise, also when they are
// started by hand rather than through ctest.
#include <cstdlib>

namespace {
const bool s_bHeadless = [] { return setenv("GAME_HEADLESS", "1", 0) == 0; }();
}
