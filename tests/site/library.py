"""The default catalogue of the local site: a made-up library, generated the
same way on every run (seeded), large enough to be real: a category with
hundreds of novels, a novel with thousands of chapters, long chapters.

Pages are built lazily: only what is asked for is generated.
"""

import random
from functools import lru_cache

CATEGORIES = [
    "玄幻魔法", "武侠修真", "都市言情", "历史军事",
    "网游竞技", "科幻灵异", "女生频道", "短篇杂文",
]

# Novels per category; the first is the large one.
NOVELS_PER_CATEGORY = [500, 120, 90, 80, 60, 50, 40, 30]

# The novel with thousands of chapters (category 1, first novel).
LONG_NOVEL_ID = 1
LONG_NOVEL_CHAPTERS = 5000

TITLE_HEADS = [
    "青云", "山河", "星辰", "剑影", "长风", "明月", "烟雨", "江湖", "春秋", "沧海",
    "归途", "天涯", "雪落", "苍穹", "流年", "万古", "乘风", "寒山", "落霞", "九州",
]
TITLE_TAILS = [
    "记", "志", "传", "行", "录", "歌", "谣", "梦", "劫", "书",
    "之路", "旧事", "纪年", "如故", "无双", "问道", "长安", "远方",
]
SURNAMES = ["林", "苏", "陈", "顾", "沈", "叶", "江", "白", "许", "周", "唐", "陆"]
GIVEN = ["清风", "晚舟", "南山", "一苇", "听雨", "若水", "星河", "半夏", "子衿", "行远"]

PHRASES = [
    "山风从谷口吹进来，带着一股潮湿的泥土气息",
    "他抬起头，看见远处的城墙在暮色里渐渐模糊",
    "院子里的老槐树又开了花，细碎的白色落了一地",
    "她把茶杯放回桌上，声音很轻，却让所有人都安静下来",
    "这一夜的雨下得很急，屋檐下的灯笼被吹得左右摇晃",
    "没有人知道那封信是谁送来的，信封上只写了一个字",
    "河面上起了薄雾，渡船靠岸的时候，天色已经微明",
    "少年握紧了手中的木剑，心里默默数着师父的脚步声",
    "集市上人声鼎沸，卖糖人的老汉吆喝得格外响亮",
    "他想起很多年前的那个冬天，雪一直下到了正月十五",
    "风过竹林，叶子沙沙作响，好像有人在低声说话",
    "远处传来钟声，一声接着一声，回荡在空旷的山间",
    "她翻开那本旧书，书页已经发黄，边角微微卷起",
    "炉火噼啪作响，屋子里暖烘烘的，谁也不想先开口",
    "马蹄声由远及近，尘土飞扬中，一队人影出现在官道尽头",
    "月光照在石阶上，像是铺了一层薄薄的霜",
]
CHAPTER_NAMES = [
    "初入江湖", "夜雨客栈", "山门试剑", "旧友重逢", "风起云涌", "月下独酌",
    "一纸书信", "渡口别离", "雪夜访客", "柳暗花明", "不速之客", "峰回路转",
]

NUMERALS = "零一二三四五六七八九"


def chinese_number(n):
    """1 -> 一, 12 -> 十二, 305 -> 三百零五, 1015 -> 一千零一十五."""
    def below_hundred(m, leading):
        tens, ones = divmod(m, 10)
        if tens == 0:
            return NUMERALS[ones]
        head = "" if (tens == 1 and leading) else NUMERALS[tens]
        return head + "十" + (NUMERALS[ones] if ones else "")

    def below_thousand(m, leading):
        hundreds, rest = divmod(m, 100)
        if hundreds == 0:
            return below_hundred(rest, leading)
        text = NUMERALS[hundreds] + "百"
        if rest == 0:
            return text
        return text + ("零" if rest < 10 else "") + below_hundred(rest, False)

    if n < 1000:
        return below_thousand(n, True)
    thousands, rest = divmod(n, 1000)
    text = NUMERALS[thousands] + "千"
    if rest == 0:
        return text
    return text + ("零" if rest < 100 else "") + below_thousand(rest, False)


def novel_ids_of(category):
    """Novel ids of a category (1-based category number)."""
    start = 1 + sum(NOVELS_PER_CATEGORY[: category - 1])
    return range(start, start + NOVELS_PER_CATEGORY[category - 1])


def category_of(novel_id):
    for c in range(1, len(CATEGORIES) + 1):
        if novel_id in novel_ids_of(c):
            return c
    return None


@lru_cache(maxsize=None)
def novel(novel_id):
    """(title, author, chapter count) of a novel, or None."""
    if category_of(novel_id) is None:
        return None
    rng = random.Random(novel_id * 7919)
    # Titles are unique: head and tail from the id, a number when they repeat.
    head = TITLE_HEADS[novel_id % len(TITLE_HEADS)]
    tail = TITLE_TAILS[(novel_id // len(TITLE_HEADS)) % len(TITLE_TAILS)]
    cycle = novel_id // (len(TITLE_HEADS) * len(TITLE_TAILS))
    title = head + tail + (chinese_number(cycle + 1) if cycle else "")
    author = rng.choice(SURNAMES) + rng.choice(GIVEN)
    chapters = LONG_NOVEL_CHAPTERS if novel_id == LONG_NOVEL_ID else rng.randint(20, 400)
    return title, author, chapters


def all_novel_ids():
    return range(1, 1 + sum(NOVELS_PER_CATEGORY))


def chapter_title(novel_id, chapter):
    rng = random.Random(novel_id * 100003 + chapter)
    return "第" + chinese_number(chapter) + "章 " + rng.choice(CHAPTER_NAMES)


def chapter_paragraphs(novel_id, chapter):
    rng = random.Random(novel_id * 1000003 + chapter)
    count = rng.randint(30, 200)
    paragraphs = []
    for _ in range(count):
        sentences = [rng.choice(PHRASES) for _ in range(rng.randint(1, 4))]
        paragraphs.append("，".join(sentences) + "。")
    return paragraphs
