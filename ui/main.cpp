#include "ui/CTarnwellApp.h"

int main(int argc, char* argv[]) {
  return tarnwell::CTarnwellApp::Run(argc, argv);
}
