// telmor-read: the program in which TELMOR's programs and its Python module
// run the format libraries, one file at a time, so that a crash or a hang in
// a library costs only that file. Started by them, never by hand.
#include "library_reader.h"

int main(int argc, char** argv) { return telmor::serve_contained_reader(argc, argv, telmor::library_reader); }
