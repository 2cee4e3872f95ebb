// The edit-profile dialog: loaded from a record; OK replaces it. Opened on one of the three
// delivered profiles, every input is read-only.
#pragma once

#include "ProfileDialog.h"

class TSet_netpopeditform final : public ProfileDialog {
    Q_OBJECT
public:
    explicit TSet_netpopeditform(feature::FeatureHost &host);

    void LoadRecord(const ProfileRecord &record, bool readOnly);
    void OkButtonClick();
    const ProfileRecord &openedRecord() const { return m_opened; }
    const ProfileRecord &savedRecord() const { return m_saved; }

private:
    ProfileRecord m_opened{};
    ProfileRecord m_saved{};
};
