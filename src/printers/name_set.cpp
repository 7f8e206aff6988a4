// The names through which the monitor and the language monitor find each other.
#include "printers/printers.h"

const WCHAR* mappingName;
const WCHAR* mappingMutexName;
const WCHAR* dummyDocumentName;

void SelectNameSet(int slot, InstanceMutexName* instanceMutexName) {
  if (slot == MODEL_SLOT_KR470) {
    mappingName = L"Global\\QATOLM Status Monitor Connection MapFile";
    mappingMutexName = L"Global\\QATOLM Status Monitor Connection MapFile Mutex";
    dummyDocumentName = L"QATOLMWindow-Dummy";
    instanceMutexName->plain = L"QATOLMMonitor_Mutex";
    instanceMutexName->prefixed = L"Global\\QATOLMMonitor_Mutex";
    return;
  }
  if (slot == MODEL_SLOT_DUMMY) {
    mappingName = L"Global\\QAxxLM Status Monitor Connection MapFile";
    mappingMutexName = L"Global\\QAxxLM Status Monitor Connection MapFile Mutex";
    dummyDocumentName = L"QAxxLMWindow-Dummy";
  }
  // Slot 0 keeps whatever names are set.
  instanceMutexName->plain = L"QAxxLMMonitor_Mutex";
  instanceMutexName->prefixed = L"Global\\QAxxLMMonitor_Mutex";
}
