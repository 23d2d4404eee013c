// Process entry: the platform's own options first, then the reader.
#include "platform/entry.h"

int main(int argc, char** argv) { return PlatformMain(argc, argv, WinMain); }
