// A stand-in for the simulator, for the demo installation and the tests: it appends its command
// line to "zelvik.log" beside itself and shows a small window naming the route it was given and
// the route's first lines, so that whoever tries Klevane sees the whole way through.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char windowClass[] = "ZelvikStandIn";

std::string programFolder() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder(path, length);
  std::size_t slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
}

// The route is the first argument in double quotes after the program's own path (which may be
// quoted too).
std::string routeOf(const char* commandLine) {
  const char* p = commandLine;
  if (*p == '"') {
    p = std::strchr(p + 1, '"');
    if (!p) return "";
    ++p;
  }
  const char* open = std::strchr(p, '"');
  if (!open) return "";
  const char* close = std::strchr(open + 1, '"');
  return close ? std::string(open + 1, close) : std::string(open + 1);
}

std::string firstLines(const std::string& path, int count) {
  std::string text;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return "(the route file cannot be read)";
  int lines = 0, c;
  while (lines < count && (c = std::fgetc(file)) != EOF) {
    if (c == '\n') {
      text += "\r\n";
      ++lines;
    } else if (c != '\r') {
      text += static_cast<char>(c);
    }
  }
  std::fclose(file);
  return text;
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  const char* commandLine = GetCommandLineA();
  std::string log = programFolder() + "\\zelvik.log";
  if (FILE* file = std::fopen(log.c_str(), "ab")) {
    std::fprintf(file, "%s\r\n", commandLine);
    std::fclose(file);
  }

  std::string route = routeOf(commandLine);
  std::string text = "Zelvik was started on the route\r\n" + route + "\r\n\r\n" + firstLines(route, 12);

  WNDCLASSA windowClassInfo = {};
  windowClassInfo.lpfnWndProc = windowProcedure;
  windowClassInfo.hInstance = instance;
  windowClassInfo.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClassInfo.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClassInfo.lpszClassName = windowClass;
  RegisterClassA(&windowClassInfo);
  HWND window = CreateWindowA(windowClass, "Zelvik (stand-in)", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 520,
                              340, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  HWND edit = CreateWindowA("EDIT", text.c_str(), WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 8, 8,
                            488, 280, window, nullptr, instance, nullptr);
  SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
