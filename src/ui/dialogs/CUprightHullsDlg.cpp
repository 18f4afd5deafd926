#include "CUprightHullsDlg.h"
