// kavrolin: the command-line automation host.
#include <CLI/CLI.hpp>

int main(int argc, char** argv) {
  CLI::App app{
      "Kavrolin: card payments for point-of-sale applications, and a toolkit of "
      "services for them.\nThe card transactions and member calls arrive in later "
      "releases; this build carries the platform layer.",
      "kavrolin"};
  app.set_version_flag("--version", "kavrolin 17.0");
  CLI11_PARSE(app, argc, argv);
  if (argc == 1) std::cout << app.help();
  return 0;
}
