// The process's one Java runtime for the JDBC connection method. libjvm.so is
// loaded with dlopen from the path the user names (never linked), the runtime
// is created on first use and kept for the life of the process — a process
// can create only one — and the helper class ZantrelJdbc, compiled at build
// time and embedded in the library, is defined in it. Every failure is a
// message; a runtime that failed to start stays failed for the process.
#pragma once

#include <jni.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace zantrel::jdbc {

// The helper's static methods, in the order of the method table.
enum class Helper {
  kConnect, kClose, kDescribe, kQuoteString, kDatabaseNames, kColumns, kKeys, kResultColumns, kQuery
};

// The calling thread's JNI environment, starting the runtime from `libjvm` on
// first use and attaching the thread when needed; null with `error` set when
// the runtime cannot be had.
JNIEnv* AttachJava(const std::string& libjvm, std::string& error);

// The calling thread's environment when the runtime is running, else null
// (attaches the thread when needed).
JNIEnv* RunningJava();

// Calls a helper method. Returns its result (a local reference, null for void),
// or null with `error` set to the exception's text when it threw.
jobject CallHelper(JNIEnv* env, Helper method, std::initializer_list<jvalue> args, std::string& error);

// Strings across the boundary: UTF-8 here, UTF-16 in Java.
jstring ToJava(JNIEnv* env, std::string_view text);
std::string FromJava(JNIEnv* env, jstring text);
std::vector<std::string> StringsOf(JNIEnv* env, jobject array);          // String[]
std::vector<std::vector<std::string>> RowsOf(JNIEnv* env, jobject array);  // String[][]

// Frees the local references made while it lives (calls from C++ never return
// to Java, which would free them).
class LocalFrame {
 public:
  explicit LocalFrame(JNIEnv* env) : env_(env) { env_->PushLocalFrame(64); }
  ~LocalFrame() { env_->PopLocalFrame(nullptr); }
  LocalFrame(const LocalFrame&) = delete;
  LocalFrame& operator=(const LocalFrame&) = delete;

 private:
  JNIEnv* env_;
};

}  // namespace zantrel::jdbc
