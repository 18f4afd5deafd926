#include "CSubmergedTrimDlg.h"
