#pragma once
// Components of the main window (filled in by the page builder).

struct LoggerControls {
};
