#include "CBonjeanDlg.h"
