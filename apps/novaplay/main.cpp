// SPDX-License-Identifier: MIT
// novaplay: plays a title. The application shell in src/shell does the work.
#include "shell/player_main.h"

int main(int argc, char** argv) { return nova::PlayerMain(argc, argv); }
