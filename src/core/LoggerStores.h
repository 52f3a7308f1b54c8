#pragma once
// The record stores of the three loggers.

struct LoggerStores {
};
