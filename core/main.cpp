#include "core/engine.h"
#include "core/platform.h"

#include <cstdlib>

int main(int argc, char** argv)
{
    rememberBuild(WARDEN_BUILD_DIR, WARDEN_SOURCE_DIR);
    std::exit(programEntry(argc, argv));
}
