#include "core/engine.h"

#include <cstdlib>

int main(int argc, char** argv)
{
    std::exit(programEntry(argc, argv));
}
