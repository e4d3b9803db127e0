// The program: the application object runs the main dialog, inside the
// scripted start that the environment may ask for (app/main/scripted.h).
#include "app/main/scripted.h"
#include "app/tarvel.h"

int main(int argc, char** argv)
{
    ScriptedStart script;
    if (!script.Begin()) return 2;
    const int code = theApp.Run(argc, argv);
    script.End();
    return code;
}
