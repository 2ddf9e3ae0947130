#pragma once

// The windows the program creates at start, in this order, each living until the program ends.

class TDM;
class TfCompare;
class TfCompareDetails;
class TfrmColorTime;
class TfrmMemOrder;
class TfrmMemory;
class TfrmSelectDevice;

namespace app {

class TfrmMain;

struct Windows
{
    TfrmMain* frmMain = nullptr;
    TfrmSelectDevice* frmSelectDevice = nullptr;
    TfrmColorTime* frmColorTime = nullptr;
    TfrmMemory* frmMemory = nullptr;
    TfrmMemOrder* frmMemOrder = nullptr;
    TDM* DM = nullptr;
    TfCompare* fCompare = nullptr;
    TfCompareDetails* fCompareDetails = nullptr;
};

Windows& windows();

} // namespace app
