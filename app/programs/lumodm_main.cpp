#include "app/panel_program.h"

int main(int argc, char** argv)
{
    return lumodm::runPanelProgram(argc, argv);
}
