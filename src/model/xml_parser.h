#pragma once
// TDirtyXMLParser: the small non-validating XML parser that turns diagram,
// clipboard and preferences texts into a tree of TXMLElement objects.
//
// Input: files and streams are raw bytes read as ISO-8859-1 (the encoding
// our files declare; the declaration itself is not examined) and split into
// lines that are joined again with CR LF; positions in messages count the
// bytes as they are in the file or stream, 1-based. ParseXml takes a QString
// as it is (for example text from the clipboard), positions count its UTF-16
// units.
//
// The parser keeps no recursion: open elements are followed through parent
// links, so nesting depth is bounded only by memory. Scanning is linear in the
// size of the text. The elements and attributes of a document are kept in
// blocks owned by the parser (TXMLNodeStore) rather than allocated one by one:
// a large file has hundreds of thousands of them, and allocating and freeing
// each took as long as parsing.
#include <QByteArray>
#include <QString>
#include <QStringView>

#include <functional>
#include <iterator>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <vector>

class QFile;
class QIODevice;
class TReadFile;
class TXMLElement;
class TXMLAttributeList;

// A piece of an element's text that needs no decoding: the text between the
// children of an element, mostly line breaks and indentation, that nobody
// reads. Kept with the document's nodes.
struct TXMLTextPiece
{
    // A string kept by the document: the same indentation is met again and
    // again, and the text parsed stays nowhere after the parse.
    const QString *Text;
    // How many more times the piece follows itself: the same indentation
    // stands before every child of an element, and noting it once per child
    // made a large file's pieces take more memory than its text.
    quint32 Repeats;
    const TXMLTextPiece *Previous;
};
class TXMLChildElementList;

// Raised for malformed text while parsing (ParseXml catches it and keeps the
// message), by DecodeXmlEntities and by an index outside a list of the tree.
class EDirtyXMLParserError : public std::runtime_error
{
public:
    explicit EDirtyXMLParserError(const QString &message);
};

// One attribute of an element; the value has its entities decoded.
class TXMLAttribute
{
public:
    // Name and value are strings kept by the document (see TXMLNodeStore).
    TXMLAttribute(const QString *name, const QString *value) : m_name(name), m_value(value) {}
    TXMLAttribute(const TXMLAttribute &) = delete;
    TXMLAttribute &operator=(const TXMLAttribute &) = delete;

    const QString &Name() const { return *m_name; }
    const QString &Value() const { return *m_value; }
    TXMLAttributeList *Owner() const { return m_owner; }

private:
    friend class TXMLAttributeList;
    // The room an element keeps for its first attribute, empty until used.
    TXMLAttribute() = default;

    TXMLAttributeList *m_owner = nullptr;
    const QString *m_name = nullptr;
    const QString *m_value = nullptr;
};

// Iterates a list by index, so callers write
// `for (TXMLAttribute *attribute : element->Attributes())`.
template <class List, typename T>
class TXMLIndexIterator
{
public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = T *;
    using difference_type = std::ptrdiff_t;
    using pointer = T *const *;
    using reference = T *;

    TXMLIndexIterator() = default;
    TXMLIndexIterator(const List *list, int index) : m_list(list), m_index(index) {}
    T *operator*() const { return m_list->At(m_index); }
    TXMLIndexIterator &operator++() { ++m_index; return *this; }
    TXMLIndexIterator operator++(int) { auto old = *this; ++m_index; return old; }
    bool operator==(const TXMLIndexIterator &other) const = default;

private:
    const List *m_list = nullptr;
    int m_index = 0;
};

// The lists below are parts of their element and find it from their own
// place in it: a file has millions of elements, and a pointer back from each
// list, and from each attribute to a list of its own, made an element and its
// usual single attribute take half again the memory they need.

// The attributes of one element in document order; duplicates are kept.
class TXMLAttributeList
{
public:
    TXMLAttributeList(const TXMLAttributeList &) = delete;
    TXMLAttributeList &operator=(const TXMLAttributeList &) = delete;

    // Appends the attribute and makes this list its owner.
    TXMLAttribute *Add(TXMLAttribute *attribute);
    // The first attribute of that name, letter case ignored; nullptr if none.
    TXMLAttribute *Find(const QString &name) const;
    int Count() const;
    TXMLAttribute *Items(int index) const;
    TXMLElement *Owner() const;

    TXMLIndexIterator<TXMLAttributeList, TXMLAttribute> begin() const { return {this, 0}; }
    TXMLIndexIterator<TXMLAttributeList, TXMLAttribute> end() const { return {this, Count()}; }

private:
    friend class TXMLElement;
    friend class TXMLIndexIterator<TXMLAttributeList, TXMLAttribute>;
    template <class View>
    friend class TXMLDocumentScanner;
    TXMLAttributeList() = default;
    ~TXMLAttributeList() = default;

    // Puts the first attribute into the room the list keeps for it: nearly
    // every element of our files has exactly one (a property's name).
    TXMLAttribute *AddOwn(const QString *name, const QString *value);
    TXMLAttribute *At(int index) const;
    // The attributes after the own one, or all when it is empty; null if none.
    const std::vector<TXMLAttribute *> *More() const;

    TXMLAttribute m_own;
};

// The child elements of one element in document order.
class TXMLChildElementList
{
public:
    TXMLChildElementList(const TXMLChildElementList &) = delete;
    TXMLChildElementList &operator=(const TXMLChildElementList &) = delete;

    // Appends the element and makes this list its owner.
    TXMLElement *Add(TXMLElement *element);
    int Count() const { return m_count; }
    TXMLElement *Items(int index) const;
    TXMLElement *Owner() const;

    // So callers write `for (TXMLElement *child : element->Children())`.
    TXMLElement *const *begin() const { return m_items; }
    TXMLElement *const *end() const { return m_items + m_count; }

private:
    friend class TXMLElement;
    template <class View>
    friend class TXMLDocumentScanner;
    TXMLChildElementList() = default;
    ~TXMLChildElementList() = default;
    // The parser hands over the children of an element all at once, when
    // the element ends, in an array kept with the document's nodes: a
    // growing array per element was an allocation for every few children.
    void Adopt(TXMLElement *const *items, int count);

    TXMLElement *const *m_items = nullptr;
    int m_count = 0;
};

// Elements found by a look-up; the list does not own them.
class TXMLElementList
{
public:
    int Count() const { return int(m_items.size()); }
    TXMLElement *Items(int index) const;
    void Add(TXMLElement *element) { m_items.push_back(element); }

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<TXMLElement *> m_items;
};

// What few elements need: a text of their own (decoded entities, text added
// after the parse), children or attributes added after the parse.
struct TXMLElementExtras;

// One element: its name as written, attributes, children and the text that
// stands directly inside it (text and CDATA pieces joined in order).
class TXMLElement
{
public:
    // The name is a string kept by the document (see TXMLNodeStore).
    explicit TXMLElement(const QString *name) : m_name(name) {}
    ~TXMLElement()
    {
        if (m_extras)
            DeleteExtras();
    }
    TXMLElement(const TXMLElement &) = delete;
    TXMLElement &operator=(const TXMLElement &) = delete;

    // The element whose child list holds this one; nullptr for the root.
    TXMLElement *GetParent() const { return m_parent; }

    const QString &Name() const { return *m_name; }
    // Pieces of text between children are joined when the text is first
    // asked for (not from two threads at once).
    const QString &Text() const
    {
        if (m_pieces)
            JoinPieces();
        return m_text ? *m_text : NoText();
    }
    TXMLAttributeList &Attributes() { return m_attributes; }
    const TXMLAttributeList &Attributes() const { return m_attributes; }
    TXMLChildElementList &Children() { return m_children; }
    const TXMLChildElementList &Children() const { return m_children; }
    TXMLChildElementList *OwnerList() const { return m_parent ? &m_parent->m_children : nullptr; }

    // Direct children whose name equals `name` exactly (case matters).
    TXMLElementList GetChildrenByName(const QString &name) const;
    // The first direct child named exactly `name`; nullptr if none.
    TXMLElement *FindChild(const QString &name) const;
    // The value of the first attribute of that name (letter case ignored);
    // nothing when the element has no such attribute.
    std::optional<QString> GetAttribute(const QString &name) const;

    // Appends a piece of text; entities are decoded unless it is CDATA.
    void AppendText(QStringView text, bool isCData);

private:
    friend class TXMLAttributeList;
    friend class TXMLChildElementList;
    // The parser's scanner hands over shared text strings directly.
    template <class View>
    friend class TXMLDocumentScanner;
    void JoinPieces() const;
    static const QString &NoText();
    // The text to append to: the element's own.
    QString &OwnText() const;
    TXMLElementExtras &Extras() const;
    void DeleteExtras();

    TXMLElement *m_parent = nullptr;
    // Names and most texts are shared by many elements and kept once by the
    // document: the element points to them, which spares a reference count
    // going up and down for each, and keeps the element small.
    const QString *m_name;
    // Null when there is no text; else a text of the document, or the own.
    mutable const QString *m_text = nullptr;
    // Pieces still to be appended to the text, the last one first.
    mutable const TXMLTextPiece *m_pieces = nullptr;
    TXMLAttributeList m_attributes;
    TXMLChildElementList m_children;
    mutable TXMLElementExtras *m_extras = nullptr;
};

// Replaces the five named entities and numeric character references (any
// code point up to U+10FFFF). Unknown names, a "&" without ";" and invalid
// references raise EDirtyXMLParserError.
QString DecodeXmlEntities(QStringView text);

// Items handed out in order from blocks that stay allocated: going back to a
// mark hands the same room out again.
template <typename Item, std::size_t BlockSize>
class TXMLBlockRun
{
public:
    struct TMark
    {
        std::size_t Block = 0;
        std::size_t Used = 0;
    };

    // Count items side by side (at most BlockSize).
    Item *Take(std::size_t count)
    {
        if (m_blocks.empty() || m_used + count > BlockSize) {
            if (!m_blocks.empty())
                ++m_block;
            if (m_block == m_blocks.size())
                m_blocks.push_back(std::make_unique_for_overwrite<Item[]>(BlockSize));
            m_used = 0;
        }
        Item *items = m_blocks[m_block].get() + m_used;
        m_used += count;
        return items;
    }

    TMark Mark() const { return {m_block, m_used}; }
    void Reset(TMark mark)
    {
        m_block = mark.Block;
        m_used = mark.Used;
    }

    // Visits the items handed out after the mark, in order (for runs whose
    // items are taken one at a time).
    template <class Visit>
    void ForEachSince(TMark mark, Visit visit) const
    {
        if (m_blocks.empty())
            return;
        for (std::size_t b = mark.Block; b <= m_block; ++b) {
            const std::size_t to = b == m_block ? m_used : BlockSize;
            for (std::size_t i = b == mark.Block ? mark.Used : 0; i < to; ++i)
                visit(m_blocks[b][i]);
        }
    }

private:
    std::vector<std::unique_ptr<Item[]>> m_blocks;
    // The block being filled, and how much of it is used.
    std::size_t m_block = 0;
    std::size_t m_used = 0;
};

// Keeps objects of one type in blocks and destroys them all at once, in the
// order they were made, or those made after a mark (whose room is used again).
template <typename T>
class TXMLNodeBlocks
{
    struct Storage { alignas(T) unsigned char Bytes[sizeof(T)]; };
    using Run = TXMLBlockRun<Storage, 1024>;

public:
    using TMark = typename Run::TMark;

    TXMLNodeBlocks() = default;
    TXMLNodeBlocks(const TXMLNodeBlocks &) = delete;
    TXMLNodeBlocks &operator=(const TXMLNodeBlocks &) = delete;
    ~TXMLNodeBlocks() { destroyFrom({}); }

    template <typename... A>
    T *New(A &&...arguments)
    {
        return new (m_run.Take(1)) T(std::forward<A>(arguments)...);
    }

    TMark Mark() const { return m_run.Mark(); }
    // Destroys what was made after the mark; the next objects take its room.
    void Release(TMark mark)
    {
        destroyFrom(mark);
        m_run.Reset(mark);
    }

private:
    void destroyFrom(TMark mark)
    {
        m_run.ForEachSince(mark, [](Storage &room) { std::launder(reinterpret_cast<T *>(&room))->~T(); });
    }

    Run m_run;
};

// Arrays of trivial items handed out from blocks, freed all at once, or
// those handed out after a mark.
template <typename T>
class TXMLArrayBlocks
{
    static constexpr std::size_t BlockSize = 8192;
    using Run = TXMLBlockRun<T, BlockSize>;

public:
    struct TMark : Run::TMark
    {
        std::size_t Large = 0;
    };

    T *New(std::size_t count)
    {
        if (count <= BlockSize / 4)
            return m_run.Take(count);
        m_large.push_back(std::make_unique_for_overwrite<T[]>(count));
        return m_large.back().get();
    }

    TMark Mark() const { return {m_run.Mark(), m_large.size()}; }
    void Release(TMark mark)
    {
        m_run.Reset(mark);
        m_large.resize(mark.Large);
    }

private:
    Run m_run;
    std::vector<std::unique_ptr<T[]>> m_large;
};

// The elements and attributes of one parsed document; nothing in them
// points into the text they were parsed from.
struct TXMLNodeStore
{
    // Where the nodes made after it start; strings are kept to the end.
    struct TMark
    {
        TXMLArrayBlocks<TXMLElement *>::TMark ChildArrays;
        TXMLArrayBlocks<TXMLTextPiece>::TMark TextPieces;
        TXMLNodeBlocks<TXMLElement>::TMark Elements;
        TXMLNodeBlocks<TXMLAttribute>::TMark Attributes;
    };
    TMark Mark() const { return {ChildArrays.Mark(), TextPieces.Mark(), Elements.Mark(), Attributes.Mark()}; }
    // Frees the nodes made after the mark; their room is used again.
    void Release(const TMark &mark)
    {
        Attributes.Release(mark.Attributes);
        Elements.Release(mark.Elements);
        TextPieces.Release(mark.TextPieces);
        ChildArrays.Release(mark.ChildArrays);
    }

    TXMLNodeBlocks<QString> Strings;
    TXMLArrayBlocks<TXMLElement *> ChildArrays;
    TXMLArrayBlocks<TXMLTextPiece> TextPieces;
    TXMLNodeBlocks<TXMLElement> Elements;
    TXMLNodeBlocks<TXMLAttribute> Attributes;
    TXMLElement *Root = nullptr;
};

// Told of a document's elements while it is parsed, so that a large one can
// be read without its whole tree: the children of the root and their
// children are handed over as they end, and each one the sink is done with
// is freed at once, its room used for the next.
class IXMLElementSink
{
public:
    virtual ~IXMLElementSink() = default;
    // The root's start tag was read: its name and attributes are there.
    virtual void RootStarted(const TXMLElement &root) = 0;
    // An element one or two levels below the root ended, with everything in
    // it. True frees it (and takes it out of its parent's children).
    virtual bool ElementEnded(const TXMLElement &element, int depth) = 0;
};

class TDirtyXMLParser
{
public:
    TDirtyXMLParser();
    ~TDirtyXMLParser();
    TDirtyXMLParser(const TDirtyXMLParser &) = delete;
    TDirtyXMLParser &operator=(const TDirtyXMLParser &) = delete;

    // Reads the file's bytes and parses them as LoadFromBytes does; a file
    // that cannot be read fails like a refused text, and so does one that
    // cannot be XML (empty, no "<" at its start, larger than memory allows,
    // not a file), or that changes each time it is read. A named pipe is
    // read once, as it comes.
    bool LoadFromFile(const QString &fileName);
    // Parses the file as LoadFromFile does, telling Sink of its elements as
    // they end; no tree is kept. False, with no message, when the file is
    // not a document (LoadFromFile says why), changed while it was read, or
    // is not a regular file (which is then not opened). What the sink raises
    // is passed on.
    bool StreamFile(const QString &fileName, IXMLElementSink &sink);
    // For tests: called each time a piece of a file was read, on the thread
    // that reads it.
    static void SetReadHook(std::function<void()> hook);
    // Reads the whole stream from its start and parses it as LoadFromBytes.
    bool LoadFromStream(QIODevice &stream);
    // Decodes ISO-8859-1, ends every line (the last too) with CR LF, parses.
    bool LoadFromBytes(const QByteArray &bytes);
    // True when the text was parsed; false with ErrorMessage() set and no
    // root element when it was refused.
    bool ParseXml(const QString &text);

    // The root element of the last successful parse; nullptr before one, after
    // a failure, and for a document without elements. Owned by the parser.
    TXMLElement *Root() const { return m_nodes ? m_nodes->Root : nullptr; }
    // The text parsed last (a file's with its lines ended by CR LF). A file
    // is read in pieces and its text is not kept: it is read again when
    // first asked for.
    const QString &SourceText() const;
    const QString &ErrorMessage() const { return m_errorMessage; }

private:
    void clear();
    bool loadRegular(TReadFile &file, const QString &fileName);
    bool loadPipe(TReadFile &pipe);
    // Parses a file's bytes with their lines ended by CR LF; messages give
    // positions in the bytes.
    bool parseLines(const QByteArray &bytes);
    bool parse(const QString &text, const QByteArray *fileBytes);

    std::unique_ptr<TXMLNodeStore> m_nodes;
    // Bytes stand for their text until the text is asked for, and a file's
    // name for its bytes.
    mutable QString m_sourceFile;
    mutable QByteArray m_sourceBytes;
    mutable QString m_sourceText;
    QString m_errorMessage;
};
