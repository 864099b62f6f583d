// orlex-convert IN -o OUT: trajectories of other tools to 3D log files, and back.
#include "convertmain.h"
#include "osfile.h"

int main(int argc, char** argv) {
    return orlex::RunTool(argc, argv, "orlex-convert", orlex::convert::Main);
}
