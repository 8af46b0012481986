#include "Application.h"

int main(int argc, char* argv[]) {
  return TApplication::Run(argc, argv);
}
