// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreState.h"

#include "app/MRUFilesUnit.h"
#include "app/SharedState.h"
#include "app/TextTools.h"
#include "capability/CapabilitySetup.h"
#include "charts/ChartState.h"
#include "charts/ControlTests.h"
#include "data/DataList.h"
#include "data/Extract.h"
#include "data/GridModule.h"
#include "data/Missu.h"
#include "data/Procif.h"
#include "data/TableEdit.h"
#include "data/TableHooks.h"
#include "data/Transfrm.h"
#include "output/ReditU.h"
#include "stats/CC_calc.h"
#include "stats/Fit.h"
#include "stats/SampleBuffer.h"
#include "stats/Zizize87.h"

namespace kivspc {

void ResetCoreState() {
    InitSharedState();
    AskBlankCommas = true;
    BlankCommasMissing = false;
    WorkText.clear();
    ResetMRUFiles();
    ClearTableHooks();

    NewDataTable();
    ResetEditorChanges();
    ResetExtraction();
    ResetMissingWhen();
    ProcessIfOff();
    ResetTransform();

    SampleX.clear();
    SampleN = 0;
    ResetStatisticsState();
    ResetCCCalcState();
    ResetFitState();
    ResetCapabilitySetup();
    ResetControlTests();
    ResetOutputModule();
    ResetChartState();
    ResetGridModule();
}

} // namespace kivspc
