#include "CInclinedHullsDlg.h"
