#pragma once
// Line speeds that termios has no constant for (14400, 56000 baud). Kept apart
// because the kernel's termios2 header clashes with <termios.h>.
#include <cstdint>

// Sets input and output speed of an open terminal to any rate; false on failure.
bool SetAnyLineSpeed(int fd, uint32_t baud);
// The output speed of an open terminal in baud; 0 when it cannot be read.
uint32_t ReadLineSpeed(int fd);
