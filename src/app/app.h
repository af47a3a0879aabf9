#pragma once
// Program start: the application object, the message boxes and the main window.
int runRiodesk(int argc, char** argv);
