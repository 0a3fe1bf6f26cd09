#include "tarvel2/tarvel2_app.h"

// The one application object, built before main().
CTarvel2App theApp;

int main(int argc, char** argv)
{
    return AfxWinMain(argc, argv);
}
