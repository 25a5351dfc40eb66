#pragma once
// Reference counts and QueryInterface as a host sees them.

#include <gtest/gtest.h>

#include <windows.h>

#include <unknwn.h>

#include <initializer_list>

// Reference count of an interface, read by an AddRef and Release pair.
ULONG refCount(IUnknown *unknown);

// One QueryInterface call on an object the caller holds once: a success hands
// out the object itself with one more reference (given back here), a refusal
// leaves the out pointer as it was.
::testing::AssertionResult answersQuery(IUnknown *object, REFIID interfaceId, HRESULT expected);

// An interface a host asks for and the answer it gets.
struct QueryCase {
    const char *name;
    const GUID *interfaceId;
    HRESULT result;
};
// answersQuery for every case, then a null out pointer refused with E_POINTER.
::testing::AssertionResult answersQueries(IUnknown *object, std::initializer_list<QueryCase> cases);
