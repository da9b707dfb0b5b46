// SPDX-License-Identifier: GPL-3.0-or-later
// Text output and printing: output documents and the current output font, report writing,
// saving as plain or rich text, the printer text device and document printing.
#pragma once

#include "output/MPrinters.h"
#include "output/OutputDocument.h"
#include "output/OutputFiles.h"
#include "output/OutputPrinting.h"
#include "output/ReditU.h"
