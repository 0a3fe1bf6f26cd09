#include "tarvel3/tarvel3_app.h"

// The one application object, built before main().
CTarvel3App theApp;

int main(int argc, char** argv)
{
    return AfxWinMain(argc, argv);
}
