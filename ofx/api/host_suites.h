// The smaller suites a host offers: memory, threads, messages to the user and
// progress.
#pragma once

#include <cstddef>

#include "ofx/api/core.h"

inline constexpr char kOfxMemorySuite[] = "OfxMemorySuite";
inline constexpr char kOfxMultiThreadSuite[] = "OfxMultiThreadSuite";
inline constexpr char kOfxMessageSuite[] = "OfxMessageSuite";
inline constexpr char kOfxProgressSuite[] = "OfxProgressSuite";

// Kinds of messages.
inline constexpr char kOfxMessageFatal[] = "OfxMessageFatal";
inline constexpr char kOfxMessageError[] = "OfxMessageError";
inline constexpr char kOfxMessageWarning[] = "OfxMessageWarning";
inline constexpr char kOfxMessageMessage[] = "OfxMessageMessage";
inline constexpr char kOfxMessageLog[] = "OfxMessageLog";
inline constexpr char kOfxMessageQuestion[] = "OfxMessageQuestion";

extern "C" {

// Memory from the host's pool; `handle` is an effect (or null) to charge.
struct OfxMemorySuiteV1 {
  OfxStatus (*memoryAlloc)(void* handle, size_t nBytes, void** allocatedData);
  OfxStatus (*memoryFree)(void* allocatedData);
};

typedef struct OfxMutex* OfxMutexHandle;
// Run once per thread of a multiThread call.
typedef void(OfxThreadFunctionV1)(unsigned int threadIndex, unsigned int threadMax,
                                  void* customArg);

struct OfxMultiThreadSuiteV1 {
  OfxStatus (*multiThread)(OfxThreadFunctionV1 func, unsigned int nThreads, void* customArg);
  OfxStatus (*multiThreadNumCPUs)(unsigned int* nCPUs);
  OfxStatus (*multiThreadIndex)(unsigned int* threadIndex);
  int (*multiThreadIsSpawnedThread)(void);
  OfxStatus (*mutexCreate)(OfxMutexHandle* mutex, int lockCount);
  OfxStatus (*mutexDestroy)(const OfxMutexHandle mutex);
  OfxStatus (*mutexLock)(const OfxMutexHandle mutex);
  OfxStatus (*mutexUnLock)(const OfxMutexHandle mutex);
  OfxStatus (*mutexTryLock)(const OfxMutexHandle mutex);
};

// Messages are printf formats. Version 2 adds messages that stay on an
// instance (its error state) until cleared.
struct OfxMessageSuiteV1 {
  OfxStatus (*message)(void* handle, const char* messageType, const char* messageId,
                       const char* format, ...);
};
struct OfxMessageSuiteV2 {
  OfxStatus (*message)(void* handle, const char* messageType, const char* messageId,
                       const char* format, ...);
  OfxStatus (*setPersistentMessage)(void* handle, const char* messageType, const char* messageId,
                                    const char* format, ...);
  OfxStatus (*clearPersistentMessage)(void* handle);
};

// A progress bar per instance; an update answering kOfxStatReplyNo asks the
// plug-in to stop.
struct OfxProgressSuiteV1 {
  OfxStatus (*progressStart)(void* effectInstance, const char* label);
  OfxStatus (*progressUpdate)(void* effectInstance, double progress);
  OfxStatus (*progressEnd)(void* effectInstance);
};
struct OfxProgressSuiteV2 {
  OfxStatus (*progressStart)(void* effectInstance, const char* message, const char* messageId);
  OfxStatus (*progressUpdate)(void* effectInstance, double progress);
  OfxStatus (*progressEnd)(void* effectInstance);
};

}  // extern "C"
