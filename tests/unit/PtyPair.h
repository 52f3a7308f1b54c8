#pragma once
// The pty helpers live in ../support/TestPeers.h; this keeps the older include working.
#include "../support/TestPeers.h"

using testsupport::PtyPair;
using testsupport::ScopedConfigHome;
