#include "removal/KeyQuestion.h"

#include "catalogue/KeyHives.h"
#include "texts/Texts.h"

namespace qob {

std::string DeleteKeyQuestion(KeyStore& store, const std::string& path, RegistryView view)
{
    const std::string name = KeyNameInView(path, view);
    if (!HasUserCopy(FindKeyHives(store, path, view)))
        return Text(TextId::RemovalConfirmDeleteKey, {name});
    return Text(TextId::RemovalConfirmDeleteUserKey, {name}) + '\r' +
           std::string(Text(TextId::RemovalUserRegistration));
}

}  // namespace qob
