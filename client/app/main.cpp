// KorvelGame.exe: the game client, a local automation server started by the lobby.
#include <windows.h>

#include "playtable_app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR command_line, int) {
  return TheApp().Run(instance, command_line);
}
