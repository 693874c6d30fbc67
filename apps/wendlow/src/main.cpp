#include "launch.hpp"

int main(int argc, char** argv) {
  return vesk_ui::launch::run_or_exit(wendlow::launch::descriptor(), argc, argv);
}
