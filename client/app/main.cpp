// KorvelGame.exe: the game client, a local automation server started by the lobby.
#include <windows.h>

#include "playtable_app.h"
#include "table_wnd.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR command_line, int) {
  // The application object lives for the whole run; everything it makes is given it.
  CPlaytableApp app;
  app.SetTableFactory([](CPlaytableApp& a) -> std::unique_ptr<ShellTableWindow> {
    return std::make_unique<CTableWnd>(a);
  });
  app.SetWarmUp(WarmUpTableWindow);
  return app.Run(instance, command_line);
}
