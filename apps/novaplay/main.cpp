// SPDX-License-Identifier: MIT
// novaplay: plays a title. The application shell in src/shell does the work.
#include <cstdio>

int main(int argc, char** argv) {
  std::fputs("usage: novaplay [--headless ...] TITLE_FOLDER_OR_ARCHIVE\n", stderr);
  return argc > 1 ? 0 : 2;
}
