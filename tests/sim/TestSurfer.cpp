#include "tests/sim/TestSurfer.h"

TestSurfer::TestSurfer() : m_hDialog(sim::CreateMainDialog()) { UpdateData(false); }
