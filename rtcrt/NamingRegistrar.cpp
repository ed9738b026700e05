#include "rtcrt/NamingRegistrar.h"

#include <omniORB4/Naming.hh>

#include "rtcrt/Logger.h"
#include "rtcrt/PeerCall.h"
#include "rtcrt/RtcMessages.h"

namespace pelorin::rtcrt {
namespace {

constexpr CORBA::ULong kNamingCallTimeoutMs = 3000;  // a dead name server must not stall start-up

// "a.host_cxt/b.rtc": components split at '/', each at its last '.' into id and kind.
CosNaming::Name toName(const std::string& text) {
    CosNaming::Name name;
    size_t start = 0;
    while (start < text.size()) {
        size_t slash = text.find('/', start);
        if (slash == std::string::npos) slash = text.size();
        std::string part = text.substr(start, slash - start);
        start = slash + 1;
        if (part.empty()) continue;
        CORBA::ULong index = name.length();
        name.length(index + 1);
        size_t dot = part.rfind('.');
        name[index].id = part.substr(0, dot).c_str();
        name[index].kind = dot == std::string::npos ? "" : part.substr(dot + 1).c_str();
    }
    return name;
}

CosNaming::NamingContext_ptr rootContext(CORBA::ORB_ptr orb, const std::string& server) {
    CORBA::Object_var object = orb->string_to_object(nameServerUri(server).c_str());
    omniORB::setClientCallTimeout(object, kNamingCallTimeoutMs);
    CosNaming::NamingContext_var root = CosNaming::NamingContext::_narrow(object);
    if (!CORBA::is_nil(root)) omniORB::setClientCallTimeout(root, kNamingCallTimeoutMs);
    return root._retn();
}

// Creates every context on the path to the last component.
void ensureContexts(CosNaming::NamingContext_ptr root, const CosNaming::Name& name) {
    CosNaming::Name path;
    for (CORBA::ULong i = 0; i + 1 < name.length(); ++i) {
        path.length(i + 1);
        path[i] = name[i];
        try {
            CosNaming::NamingContext_var created = root->bind_new_context(path);
        } catch (const CosNaming::NamingContext::AlreadyBound&) {
            // The context exists already.
        }
    }
}

// Whether `name` resolves to `object` itself.
bool resolvesTo(CosNaming::NamingContext_ptr root, const CosNaming::Name& name,
                CORBA::Object_ptr object) {
    try {
        CORBA::Object_var bound = root->resolve(name);
        return !CORBA::is_nil(bound) && bound->_is_equivalent(object);
    } catch (const CosNaming::NamingContext::NotFound&) {
        return false;
    }
}

void bindName(CosNaming::NamingContext_ptr root, const CosNaming::Name& name,
              CORBA::Object_ptr object) {
    ensureContexts(root, name);
    root->rebind(name, object);
}

}  // namespace

std::string nameServerUri(const std::string& server) {
    if (server.rfind("corbaloc:", 0) == 0 || server.rfind("corbaname:", 0) == 0) return server;
    return "corbaloc:iiop:" + server + "/NameService";
}

std::string formatComponentName(const std::string& format, const coil::Properties& component,
                                const coil::Properties& manager) {
    std::string result;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 >= format.size()) {
            result += format[i];
            continue;
        }
        char code = format[++i];
        std::string instance = component.getProperty("instance_name");
        std::string implementation = component.getProperty("implementation_id");
        switch (code) {
            case 'n':
                result += instance;
                break;
            case 't':
            case 'm':
                result += component.getProperty("type_name");
                break;
            case 'v':
                result += component.getProperty("version");
                break;
            case 'V':
                result += component.getProperty("vendor");
                break;
            case 'c':
                result += component.getProperty("category");
                break;
            case 'i':
                result += implementation;
                break;
            case 'N':
                result += instance.rfind(implementation, 0) == 0
                              ? instance.substr(implementation.size())
                              : instance;
                break;
            case 'h':
                result += manager.getProperty("os.hostname");
                break;
            case 'M':
                result += manager.getProperty("manager.name");
                break;
            case 'p':
                result += manager.getProperty("manager.pid");
                break;
            case '%':
                result += '%';
                break;
            default:
                result += '%';
                result += code;
                break;
        }
    }
    return result;
}

NamingRegistrar::NamingRegistrar(CORBA::ORB_ptr orb, std::vector<std::string> servers)
    : orb_(CORBA::ORB::_duplicate(orb)), servers_(std::move(servers)) {}

std::vector<std::string> NamingRegistrar::bind(const std::vector<std::string>& names,
                                               CORBA::Object_ptr object) {
    std::vector<std::string> failed;
    for (const std::string& server : servers_) {
        try {
            CosNaming::NamingContext_var root = rootContext(orb_, server);
            if (CORBA::is_nil(root)) {
                failed.push_back(server);
                continue;
            }
            for (const std::string& text : names) {
                CosNaming::Name name = toName(text);
                if (name.length() == 0) continue;
                bindName(root, name, object);
                Logger::instance().write(LogLevel::Info,
                                         std::string(messages::kLogBound) + text + " @ " + server);
            }
        } catch (const CORBA::Exception& e) {
            failed.push_back(server);
            Logger::instance().write(LogLevel::Debug, std::string(messages::kLogBindFailed) +
                                                          server + " (" + e._name() + ")");
        }
    }
    return failed;
}

bool NamingRegistrar::refresh(const std::vector<std::string>& names, CORBA::Object_ptr object,
                              const std::string& server, bool rebindAll) {
    try {
        // A naming service restarted at the same address is reached through a new connection.
        return callPeer([&] { return refreshOnce(names, object, server, rebindAll); });
    } catch (const CORBA::Exception& e) {
        Logger::instance().write(LogLevel::Debug, std::string(messages::kLogBindFailed) + server +
                                                      " (" + e._name() + ")");
        return false;
    }
}

bool NamingRegistrar::refreshOnce(const std::vector<std::string>& names, CORBA::Object_ptr object,
                                  const std::string& server, bool rebindAll) {
    CosNaming::NamingContext_var root = rootContext(orb_, server);
    if (CORBA::is_nil(root)) return false;
    for (const std::string& text : names) {
        CosNaming::Name name = toName(text);
        if (name.length() == 0 || (!rebindAll && resolvesTo(root, name, object))) continue;
        bindName(root, name, object);
        if (!rebindAll) {
            Logger::instance().write(LogLevel::Info,
                                     std::string(messages::kLogBoundAgain) + text + " @ " + server);
        }
    }
    return true;
}

void NamingRegistrar::unbind(const std::vector<std::string>& names) {
    for (const std::string& server : servers_) {
        try {
            CosNaming::NamingContext_var root = rootContext(orb_, server);
            if (CORBA::is_nil(root)) continue;
            for (const std::string& text : names) {
                try {
                    root->unbind(toName(text));
                    Logger::instance().write(
                        LogLevel::Info, std::string(messages::kLogUnbound) + text + " @ " + server);
                } catch (const CosNaming::NamingContext::NotFound&) {
                    // Someone removed it already.
                }
            }
        } catch (const CORBA::Exception&) {
            // The server went away; there is nothing left to clean there.
        }
    }
}

}  // namespace pelorin::rtcrt
