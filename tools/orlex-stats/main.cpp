// orlex-stats FILE...: statistics of many runs of one benchmark case.
#include "osfile.h"
#include "stats.h"

int main(int argc, char** argv) {
    return orlex::RunTool(argc, argv, "orlex-stats", orlex::stats::Main);
}
