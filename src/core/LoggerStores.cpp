#include "core/LoggerStores.h"

// One instantiation of each store for the whole program.
template class LoggerRecordStore<CDemandLogger, DemandRecordCapacity>;
template class LoggerRecordStore<CCertifiedLogger, CertifiedRecordCapacity>;
template class LoggerRecordStore<EventRecord, EventRecordCapacity, EventRecordCapacity>;
