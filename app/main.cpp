#include "window/application.h"
#include "window/form1.h"

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    Form1 form(app.stepsPerSecond());
    form.Load();
    return QApplication::exec();
}
