#pragma once
// The document a view follows: the view is the document's observer for as long as it follows
// it, and stops being one when it follows another document or goes away.

#include "project/DocumentObserver.h"

namespace hwc {

template <class Document> class CObservedDocument {
public:
    explicit CObservedDocument(IDocumentObserver& observer) : m_observer(observer) {}
    ~CObservedDocument() { Set(nullptr); }
    CObservedDocument(const CObservedDocument&) = delete;
    CObservedDocument& operator=(const CObservedDocument&) = delete;

    void Set(Document* document) {
        if (m_document)
            m_document->RemoveObserver(&m_observer);
        m_document = document;
        if (m_document)
            m_document->AddObserver(&m_observer);
    }
    Document* Get() const { return m_document; }
    Document* operator->() const { return m_document; }
    Document& operator*() const { return *m_document; }
    explicit operator bool() const { return m_document != nullptr; }

private:
    IDocumentObserver& m_observer;
    Document* m_document = nullptr;
};

} // namespace hwc
