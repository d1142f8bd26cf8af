// Starting the Java runtime, defining the helper class and calling it.
#include "schema/drivers/java_runtime.h"

#include <dlfcn.h>

#include <atomic>
#include <iterator>
#include <mutex>

#if defined(__SANITIZE_ADDRESS__)
#define ZANTREL_LEAK_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZANTREL_LEAK_SANITIZER 1
#endif
#endif
#ifdef ZANTREL_LEAK_SANITIZER
#include <sanitizer/lsan_interface.h>
#endif

namespace zantrel::embedded {
extern const std::string_view jdbc_helper_class;
}

namespace zantrel {

namespace jdbc {
namespace {

constexpr jint kJniVersion = JNI_VERSION_1_8;
constexpr const char* kHelperClass = "ZantrelJdbc";

struct HelperMethod {
  const char* name;
  const char* signature;
};

// Indexed by Helper.
const HelperMethod kHelperMethods[] = {
    {"connect", "(Ljava/lang/String;Ljava/lang/String;Ljava/lang/String;Ljava/lang/String;)Ljava/sql/Connection;"},
    {"close", "(Ljava/sql/Connection;)V"},
    {"describe", "(Ljava/lang/Throwable;)Ljava/lang/String;"},
    {"quoteString", "(Ljava/sql/Connection;)Ljava/lang/String;"},
    {"databaseNames", "(Ljava/sql/Connection;)[Ljava/lang/String;"},
    {"columns", "(Ljava/sql/Connection;Ljava/lang/String;Ljava/lang/String;)[[Ljava/lang/String;"},
    {"keys", "(Ljava/sql/Connection;Ljava/lang/String;Ljava/lang/String;)[[Ljava/lang/String;"},
    {"resultColumns", "(Ljava/sql/Connection;Ljava/lang/String;)[[Ljava/lang/String;"},
    {"query", "(Ljava/sql/Connection;Ljava/lang/String;Ljava/lang/String;)[[Ljava/lang/String;"},
};

// -Xrs leaves SIGINT, SIGTERM and SIGHUP to the host (Ctrl-C cancels a
// generation); the serial collector and the first JIT tier suit short schema
// reads on small machines.
const char* const kJvmOptions[] = {"-Xrs", "-XX:+UseSerialGC", "-XX:TieredStopAtLevel=1", "-Djava.awt.headless=true"};

using CreateJavaVMFn = jint (*)(JavaVM**, void**, void*);
using GetCreatedJavaVMsFn = jint (*)(JavaVM**, jsize, jsize*);

// Process-wide, never destroyed: the runtime outlives every static destructor.
struct Runtime {
  std::mutex mutex;
  JavaVM* vm = nullptr;
  std::string failure;  // why the runtime could not start; final for the process
  jclass helper = nullptr;
  jmethodID methods[std::size(kHelperMethods)] = {};
  std::atomic<bool> running{false};
};

Runtime& TheRuntime() {
  static Runtime* runtime = new Runtime;
  return *runtime;
}

// Detaches a thread this file attached when the thread ends.
struct Detacher {
  JavaVM* vm;
  ~Detacher() { vm->DetachCurrentThread(); }
};

JNIEnv* EnvOf(JavaVM* vm) {
  JNIEnv* env = nullptr;
  if (vm->GetEnv(reinterpret_cast<void**>(&env), kJniVersion) == JNI_OK) return env;
  if (vm->AttachCurrentThreadAsDaemon(reinterpret_cast<void**>(&env), nullptr) != JNI_OK) return nullptr;
  thread_local Detacher detacher{vm};
  return env;
}

// The text of a pending exception (cleared), through Throwable.toString when
// the helper is not defined yet.
std::string TakeException(JNIEnv* env) {
  jthrowable thrown = env->ExceptionOccurred();
  env->ExceptionClear();
  if (!thrown) return "";
  Runtime& rt = TheRuntime();
  jobject text = nullptr;
  if (rt.helper) {
    text = env->CallStaticObjectMethod(rt.helper, rt.methods[static_cast<int>(Helper::kDescribe)], thrown);
  } else {
    jclass object = env->FindClass("java/lang/Object");
    text = env->CallObjectMethod(thrown, env->GetMethodID(object, "toString", "()Ljava/lang/String;"));
  }
  if (env->ExceptionCheck() || !text) {
    env->ExceptionClear();
    return "Java exception";
  }
  return FromJava(env, static_cast<jstring>(text));
}

// Defines the embedded helper class through the system class loader (which
// sees java.sql) and looks up its methods.
std::string DefineHelper(JNIEnv* env, Runtime& rt) {
  LocalFrame frame(env);
  jclass loaderClass = env->FindClass("java/lang/ClassLoader");
  jmethodID system =
      loaderClass ? env->GetStaticMethodID(loaderClass, "getSystemClassLoader", "()Ljava/lang/ClassLoader;") : nullptr;
  jobject loader = system ? env->CallStaticObjectMethod(loaderClass, system) : nullptr;
  if (!loader) return "no system class loader: " + TakeException(env);
  const std::string_view bytes = embedded::jdbc_helper_class;
  jclass helper = env->DefineClass(kHelperClass, loader, reinterpret_cast<const jbyte*>(bytes.data()),
                                   static_cast<jsize>(bytes.size()));
  if (!helper) {  // a host's own runtime may hold it already
    env->ExceptionClear();
    helper = env->FindClass(kHelperClass);
  }
  if (!helper) return "cannot define the JDBC helper class: " + TakeException(env);
  for (std::size_t i = 0; i < std::size(kHelperMethods); ++i) {
    rt.methods[i] = env->GetStaticMethodID(helper, kHelperMethods[i].name, kHelperMethods[i].signature);
    if (!rt.methods[i]) return std::string("the JDBC helper class lacks ") + kHelperMethods[i].name;
  }
  rt.helper = static_cast<jclass>(env->NewGlobalRef(helper));
  return "";
}

// Loads libjvm and creates (or joins) the runtime; "" on success. Only a
// runtime that was created and then failed makes the failure final: a wrong
// path can be corrected and tried again.
std::string Start(Runtime& rt, const std::string& libjvm) {
  if (libjvm.empty()) return "JDBC ERROR: no Java runtime library is set (JavaRuntimeLib)";
  void* lib = dlopen(libjvm.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!lib) return "JDBC ERROR: cannot load the Java runtime library " + libjvm + ": " + dlerror();
  auto create = reinterpret_cast<CreateJavaVMFn>(dlsym(lib, "JNI_CreateJavaVM"));
  auto created = reinterpret_cast<GetCreatedJavaVMsFn>(dlsym(lib, "JNI_GetCreatedJavaVMs"));
  if (!create || !created) {
    dlclose(lib);
    return "JDBC ERROR: " + libjvm + " is not a Java runtime library (no JNI_CreateJavaVM)";
  }
  JavaVM* vm = nullptr;
  JNIEnv* env = nullptr;
  jsize count = 0;
  if (created(&vm, 1, &count) == JNI_OK && count == 1) {
    env = EnvOf(vm);
  } else {
    JavaVMOption options[std::size(kJvmOptions)];
    for (std::size_t i = 0; i < std::size(kJvmOptions); ++i) options[i] = {const_cast<char*>(kJvmOptions[i]), nullptr};
    JavaVMInitArgs args{kJniVersion, static_cast<jint>(std::size(options)), options, JNI_FALSE};
#ifdef ZANTREL_LEAK_SANITIZER
    // LeakSanitizer cannot scan a running Java runtime at exit (its guard pages
    // stop the scan): leaks are checked now, and the exit check is dropped.
    __lsan_do_leak_check();
#endif
    jint rc = create(&vm, reinterpret_cast<void**>(&env), &args);
    if (rc != JNI_OK) {
      rt.failure = "JDBC ERROR: the Java runtime " + libjvm + " failed to start (JNI error " + std::to_string(rc) + ")";
      return rt.failure;
    }
  }
  if (!env) return "JDBC ERROR: cannot attach to the Java runtime";
  if (std::string problem = DefineHelper(env, rt); !problem.empty()) {
    rt.failure = "JDBC ERROR: " + problem;
    return rt.failure;
  }
  rt.vm = vm;
  rt.running = true;
  return "";
}

char16_t* AppendUtf16(char32_t cp, char16_t* out) {
  if (cp < 0x10000) {
    *out++ = static_cast<char16_t>(cp);
  } else {
    cp -= 0x10000;
    *out++ = static_cast<char16_t>(0xD800 + (cp >> 10));
    *out++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  }
  return out;
}

void AppendUtf8(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

JNIEnv* AttachJava(const std::string& libjvm, std::string& error) {
  Runtime& rt = TheRuntime();
  std::lock_guard<std::mutex> lock(rt.mutex);
  if (!rt.vm) {
    if (!rt.failure.empty()) {
      error = rt.failure;
      return nullptr;
    }
    if (std::string problem = Start(rt, libjvm); !problem.empty()) {
      error = problem;
      return nullptr;
    }
  }
  JNIEnv* env = EnvOf(rt.vm);
  if (!env) error = "JDBC ERROR: cannot attach to the Java runtime";
  return env;
}

JNIEnv* RunningJava() {
  Runtime& rt = TheRuntime();
  return rt.running ? EnvOf(rt.vm) : nullptr;
}

jobject CallHelper(JNIEnv* env, Helper method, std::initializer_list<jvalue> args, std::string& error) {
  Runtime& rt = TheRuntime();
  const auto index = static_cast<std::size_t>(method);
  jobject result = nullptr;
  std::string_view signature = kHelperMethods[index].signature;
  if (signature.ends_with(")V")) env->CallStaticVoidMethodA(rt.helper, rt.methods[index], std::data(args));
  else result = env->CallStaticObjectMethodA(rt.helper, rt.methods[index], std::data(args));
  if (env->ExceptionCheck()) {
    error = TakeException(env);
    return nullptr;
  }
  return result;
}

jstring ToJava(JNIEnv* env, std::string_view text) {
  std::u16string units(text.size(), u'\0');
  char16_t* out = units.data();
  for (std::size_t i = 0; i < text.size();) {
    auto byte = static_cast<unsigned char>(text[i]);
    int extra = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
    char32_t cp = extra == 0 ? byte : byte & (0x3F >> extra);
    bool valid = byte < 0x80 || extra > 0;
    for (int k = 1; k <= extra && valid; ++k) {
      auto next = i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0;
      valid = (next & 0xC0) == 0x80;
      cp = (cp << 6) | (next & 0x3F);
    }
    if (!valid || cp > 0x10FFFF) {
      cp = 0xFFFD;  // a stray byte stands for itself as the replacement character
      extra = 0;
    }
    out = AppendUtf16(cp, out);
    i += 1 + extra;
  }
  units.resize(static_cast<std::size_t>(out - units.data()));
  return env->NewString(reinterpret_cast<const jchar*>(units.data()), static_cast<jsize>(units.size()));
}

std::string FromJava(JNIEnv* env, jstring text) {
  if (!text) return "";
  const jsize length = env->GetStringLength(text);
  std::u16string units(static_cast<std::size_t>(length), u'\0');
  env->GetStringRegion(text, 0, length, reinterpret_cast<jchar*>(units.data()));
  std::string out;
  out.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    char32_t cp = units[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000)
      cp = 0x10000 + ((cp - 0xD800) << 10) + (units[++i] - 0xDC00);
    else if (cp >= 0xD800 && cp < 0xE000)
      cp = 0xFFFD;  // a lone surrogate
    AppendUtf8(cp, out);
  }
  return out;
}

std::vector<std::string> StringsOf(JNIEnv* env, jobject array) {
  std::vector<std::string> out;
  if (!array) return out;
  auto strings = static_cast<jobjectArray>(array);
  const jsize n = env->GetArrayLength(strings);
  for (jsize i = 0; i < n; ++i) {
    jobject s = env->GetObjectArrayElement(strings, i);
    out.push_back(FromJava(env, static_cast<jstring>(s)));
    env->DeleteLocalRef(s);
  }
  return out;
}

std::vector<std::vector<std::string>> RowsOf(JNIEnv* env, jobject array) {
  std::vector<std::vector<std::string>> out;
  if (!array) return out;
  auto rows = static_cast<jobjectArray>(array);
  const jsize n = env->GetArrayLength(rows);
  for (jsize i = 0; i < n; ++i) {
    jobject row = env->GetObjectArrayElement(rows, i);
    out.push_back(StringsOf(env, row));
    env->DeleteLocalRef(row);
  }
  return out;
}

}  // namespace jdbc

bool JavaRuntimeLoaded() { return jdbc::TheRuntime().running; }

}  // namespace zantrel
