#pragma once
// The program's version, read by the resource script.
#define VELKARN_VERSION_MAJOR 1
#define VELKARN_VERSION_MINOR 0
#define VELKARN_VERSION_TEXT "1.0"
