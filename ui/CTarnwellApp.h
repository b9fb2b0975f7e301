// The application: start-up, the main window run modally, and the end of the
// program when it closes.
#pragma once

namespace tarnwell {

class CTarnwellApp {
 public:
  // Everything the program does; returns the exit status. Without a display
  // it says so in one line and points to the command-line tool.
  static int Run(int argc, char* argv[]);

  // The application's names (which also place the user's remembered
  // settings), its icon and its message box.
  static void InitInstance();

 private:
  static bool DisplayAvailable();
};

}  // namespace tarnwell
