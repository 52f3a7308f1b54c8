#pragma once
// The freeze and reset date settings of the Energy page's Setup groups: Set
// writes the date and time of the edits into the meter, Read asks for them.
class TMainForm;

// Binds the two Set and the two Read buttons; once, from the constructor.
void ConnectCounterDateHandlers(TMainForm& form);
