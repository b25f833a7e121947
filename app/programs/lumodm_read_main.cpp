#include "app/reader_program.h"

// The meter without a window; everything lives in the app library.
int main(int argc, char** argv)
{
    return lumodm::runHeadlessReaderProgram(argc, argv);
}
