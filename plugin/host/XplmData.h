// Datarefs: lookup, typed reads and writes, accessors published by plug-ins
// and shared data.
#pragma once

#include "XplmTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
    xplmType_Unknown = 0,
    xplmType_Int = 1,
    xplmType_Float = 2,
    xplmType_Double = 4,
    xplmType_FloatArray = 8,
    xplmType_IntArray = 16,
    xplmType_Data = 32
};

typedef int (*XPLMGetDatai_f)(void* refcon);
typedef void (*XPLMSetDatai_f)(void* refcon, int value);
typedef float (*XPLMGetDataf_f)(void* refcon);
typedef void (*XPLMSetDataf_f)(void* refcon, float value);
typedef double (*XPLMGetDatad_f)(void* refcon);
typedef void (*XPLMSetDatad_f)(void* refcon, double value);
typedef int (*XPLMGetDatavi_f)(void* refcon, int* outValues, int offset, int max);
typedef void (*XPLMSetDatavi_f)(void* refcon, int* values, int offset, int count);
typedef int (*XPLMGetDatavf_f)(void* refcon, float* outValues, int offset, int max);
typedef void (*XPLMSetDatavf_f)(void* refcon, float* values, int offset, int count);
typedef int (*XPLMGetDatab_f)(void* refcon, void* outValue, int offset, int maxLength);
typedef void (*XPLMSetDatab_f)(void* refcon, void* value, int offset, int length);
typedef void (*XPLMDataChanged_f)(void* refcon);

XPLMDataRef XPLMFindDataRef(const char* dataRefName);
XPLMDataTypeID XPLMGetDataRefTypes(XPLMDataRef dataRef);
int XPLMGetDatai(XPLMDataRef dataRef);
float XPLMGetDataf(XPLMDataRef dataRef);
double XPLMGetDatad(XPLMDataRef dataRef);
int XPLMGetDatavi(XPLMDataRef dataRef, int* outValues, int offset, int max);
int XPLMGetDatavf(XPLMDataRef dataRef, float* outValues, int offset, int max);
int XPLMGetDatab(XPLMDataRef dataRef, void* outValue, int offset, int maxBytes);
void XPLMSetDatai(XPLMDataRef dataRef, int value);
void XPLMSetDataf(XPLMDataRef dataRef, float value);
void XPLMSetDatad(XPLMDataRef dataRef, double value);
void XPLMSetDatavi(XPLMDataRef dataRef, int* values, int offset, int count);
void XPLMSetDatavf(XPLMDataRef dataRef, float* values, int offset, int count);
void XPLMSetDatab(XPLMDataRef dataRef, void* value, int offset, int length);

XPLMDataRef XPLMRegisterDataAccessor(const char* dataName, XPLMDataTypeID dataType, int isWritable,
                                     XPLMGetDatai_f readInt, XPLMSetDatai_f writeInt,
                                     XPLMGetDataf_f readFloat, XPLMSetDataf_f writeFloat,
                                     XPLMGetDatad_f readDouble, XPLMSetDatad_f writeDouble,
                                     XPLMGetDatavi_f readIntArray, XPLMSetDatavi_f writeIntArray,
                                     XPLMGetDatavf_f readFloatArray, XPLMSetDatavf_f writeFloatArray,
                                     XPLMGetDatab_f readData, XPLMSetDatab_f writeData,
                                     void* readRefcon, void* writeRefcon);
void XPLMUnregisterDataAccessor(XPLMDataRef dataRef);

int XPLMShareData(const char* dataName, XPLMDataTypeID dataType, XPLMDataChanged_f notify,
                  void* notifyRefcon);
int XPLMUnshareData(const char* dataName, XPLMDataTypeID dataType, XPLMDataChanged_f notify,
                    void* notifyRefcon);

#ifdef __cplusplus
}
#endif
