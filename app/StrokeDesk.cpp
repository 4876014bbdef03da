// Entry of the program.
#include "app/Entry.h"
#include "app/qt/Interactive.h"

int main(int argc, char** argv) { return McycleMain(argc, argv, InteractiveRun); }
