#include "app/Program.h"

int main(int argc, char** argv)
{
    return velmora::RunGame(argc, argv);
}
