#pragma once


// The start-up routine: runs the program with its command-line arguments and returns its exit code.
namespace modMain {
int Main(int argc, char **argv);
}
