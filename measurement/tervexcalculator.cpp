#include "measurement/tervexcalculator.h"
