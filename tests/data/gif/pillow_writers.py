# Pictures Pillow writes for the load tests: global or local tables, interlaced or not,
# transparency, every disposal, delays, a loop block and a comment.
import sys
from PIL import Image, ImageDraw
out = sys.argv[1]
def picture(w, h, seed, colours):
    im = Image.new('RGB', (w, h), (250, 250, 250))
    d = ImageDraw.Draw(im)
    for k in range(colours):
        x, y = (seed * 7 + k * 5) % w, (seed * 3 + k * 11) % h
        d.rectangle([x, y, x + 4 + k % 5, y + 2 + k % 3], fill=((k * 70 + seed * 30) % 256, (k * 130) % 256, (seed * 90 + k * 20) % 256))
    return im
static = picture(37, 23, 1, 12).convert('P', palette=Image.ADAPTIVE, colors=16)
static.save(out + '/pillow-interlaced.gif', interlace=True)
static.save(out + '/pillow-plain.gif', interlace=False, comment=b'written by Pillow')
frames = [picture(30, 20, s, 6 + s).convert('P', palette=Image.ADAPTIVE, colors=8 + 4 * s) for s in range(5)]
frames[0].save(out + '/pillow-anim.gif', save_all=True, append_images=frames[1:], duration=[30, 50, 70, 20, 40],
               loop=2, disposal=[1, 2, 3, 1, 2], transparency=0, optimize=False)
